#include "tests/support/exif_writer/movie_builder.h"

#include <string_view>

namespace snapcrate::exif_writer {

namespace {

void Put(Bytes& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

Bytes Box(std::string_view type, const Bytes& payload) {
  Bytes box;
  Put(box, 8 + payload.size(), 4);
  box.insert(box.end(), type.begin(), type.end());
  box.insert(box.end(), payload.begin(), payload.end());
  return box;
}

Bytes MovieHeader(uint64_t creation_time, uint8_t version) {
  const int time_size = version == 1 ? 8 : 4;
  Bytes payload{version, 0, 0, 0};
  Put(payload, creation_time, time_size);
  Put(payload, creation_time, time_size);  // modification time
  Put(payload, 1000, 4);                   // time scale
  Put(payload, 2000, time_size);           // duration: 2 s
  Put(payload, 0x00010000, 4);             // rate 1.0
  Put(payload, 0x0100, 2);                 // volume 1.0
  payload.resize(payload.size() + 10, 0);
  for (uint32_t value : {0x00010000u, 0u, 0u, 0u, 0x00010000u, 0u, 0u, 0u, 0x40000000u})
    Put(payload, value, 4);  // unity matrix
  payload.resize(payload.size() + 24, 0);
  Put(payload, 2, 4);  // next track ID
  return Box("mvhd", payload);
}

}  // namespace

Bytes MakeMovie(const MovieLayout& layout) {
  Bytes file_type;
  for (std::string_view brand :
       {std::string_view("isom"), std::string_view("\0\0\2\0", 4), std::string_view("isommp41")})
    file_type.insert(file_type.end(), brand.begin(), brand.end());
  Bytes out = Box("ftyp", file_type);

  Bytes movie;
  if (layout.creation_time) movie = MovieHeader(*layout.creation_time, layout.mvhd_version);
  const Bytes user_data = Box("udta", Bytes(12, 0));
  movie.insert(movie.begin(), user_data.begin(), user_data.end());
  const Bytes movie_box = Box("moov", movie);
  const Bytes media = Box("mdat", Bytes(64, 0x5A));

  const Bytes& first = layout.movie_box_last ? media : movie_box;
  const Bytes& second = layout.movie_box_last ? movie_box : media;
  out.insert(out.end(), first.begin(), first.end());
  out.insert(out.end(), second.begin(), second.end());
  return out;
}

}  // namespace snapcrate::exif_writer
