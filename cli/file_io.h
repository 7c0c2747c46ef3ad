// Whole-file reading and writing for the commands. Every failure (missing file, a
// directory or device, a read or write error, a full disk) comes back as a text
// that names the file and the reason; nothing throws.
#pragma once

#include <string>
#include <string_view>

// Reads the regular file at `path` into `content`. Returns false with `error` set
// when the file cannot be opened, is not a regular file or cannot be read.
bool read_regular_file(const std::string &path, std::string &content, std::string &error);

// Writes `content` to `path` (created or truncated). Returns false with `error` set
// when the file cannot be created or written completely.
bool write_file(const std::string &path, std::string_view content, std::string &error);
