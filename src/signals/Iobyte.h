#pragma once
#include "signals/Iovalue.h"

using TByteDataEvent = TMethod<unsigned char>;
using TIOByte = TIOValue<unsigned char>;
using TInputByte = TInputValue<unsigned char>;
using TOutputByte = TOutputValue<unsigned char>;
