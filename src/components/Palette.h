#pragma once
// Puts every component class of the library on the palette (the gallery and tests use it; the
// running plant never needs it).
void RegisterAllComponents();
