#pragma once

// The system's converter for code page 936, asked one character at a time while the tables are
// built. One implementation per system.

namespace shenbao::gbk::system {

// The character of bytes (1 or 2 of them), or 0 when the converter reports an error.
char16_t decode(const char* bytes, int size);

// The bytes of c into out (1 or 2), or 0 when the converter has no exact mapping.
int encode(char16_t c, char out[2]);

} // namespace shenbao::gbk::system
