#pragma once
// Whole files in and out.
#include "Image.h"

bool ReadFileBytes(const char* path, Bytes& retBytes);

// Creates the file, replacing any old one; false when any byte could not be written.
bool WriteFileBytes(const char* path, const Bytes& bytes);
