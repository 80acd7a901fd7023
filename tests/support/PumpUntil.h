#pragma once
// Pumps events until condition holds or timeoutMs passes; answers whether it holds.
#include <functional>

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
