// Names counted in characters, as Joliet and UDF count them: a name read
// from an image or a folder here is UTF-8; a value of install.dat is in the
// system code page, a byte a character.
#pragma once

#include <cstddef>
#include <string_view>

// The length of the valid UTF-8 sequence at `at` (1 for ASCII), or 0.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at);

// The characters of `name`: UTF-8 sequences when all of it is valid UTF-8,
// else bytes.
std::size_t NameCharacters(std::string_view name);

// The first `characters` characters of `name`, counted the same way.
std::string_view NameStart(std::string_view name, std::size_t characters);
