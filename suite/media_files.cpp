#include "media_files.h"

const MediaFile MediaFiles[] = {
#define MEDIA_FILE(name, stored, origin, users) {name, MEDIA_##stored, MEDIA_##origin, users},
#include "media_files.def"
#undef MEDIA_FILE
};

const int MediaFileCount = sizeof MediaFiles / sizeof MediaFiles[0];
