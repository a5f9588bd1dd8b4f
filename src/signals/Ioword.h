#pragma once
#include "signals/Iovalue.h"

using TWordDataEvent = TMethod<unsigned short>;
using TIOWord = TIOValue<unsigned short>;
using TInputWord = TInputValue<unsigned short>;
using TOutputWord = TOutputValue<unsigned short>;
