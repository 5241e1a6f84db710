#pragma once
// The writer's file step on its own, with the write call replaceable so that a device failing
// part-way can be simulated.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

using FileWriteFunction = BOOL (*)(HANDLE file, const void* data, DWORD count, DWORD* written);

BOOL WriteFileChunk(HANDLE file, const void* data, DWORD count, DWORD* written);

void WriteBytesToNewFile(const std::string& path, const uint8_t* data, size_t size,
                         FileWriteFunction write = WriteFileChunk);
