// A minimal PNG encoder for screenshots: 8-bit RGB, stored (uncompressed) deflate
// blocks, so the simulator needs no image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim_tool {

// rgb holds width * height pixels, three bytes each, rows top to bottom.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

}  // namespace hostsim_tool
