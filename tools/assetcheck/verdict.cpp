#include "tools/assetcheck/verdict.h"

bool ac_picture_verdict(const char* path, int32_t width, int32_t height, ImageFile* img, std::string* verdict) {
  *img = ImageFile{};
  if (!bmp_load(img, path)) *verdict = "no: the reader refuses it";
  else if (!bmp_copyable(img)) *verdict = "no: 8-bit pictures are not copied";
  else if (img->info_header.biWidth != width || img->info_header.biHeight != height) *verdict = "no: wrong size";
  else {
    *verdict = "yes";
    return true;
  }
  return false;
}
