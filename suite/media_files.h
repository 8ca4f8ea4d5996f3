// The suite installer's media: every file it reads, how the media holds it and
// which steps read it. The rows are in media_files.def.
#ifndef MEDIA_FILES_H
#define MEDIA_FILES_H

enum MediaStorage {
    MEDIA_COMPRESSED, // under the compressed name
    MEDIA_PLAIN       // under its own name, not compressed
};

enum MediaOrigin {
    MEDIA_SAMPLE, // a product file
    MEDIA_BUILT   // a program of this build (the distribution installer)
};

enum MediaUsers {
    FOR_MODELLER = 1,
    FOR_SAVER = 2,
    FOR_BUILDER = 4,
    FOR_WING = 8, // the WinG runtime, installed by the modeller step
    FOR_KIT = 16  // copied unexpanded into the skeleton kit by the builder step
};

struct MediaFile {
    const char *name; // the expanded name
    MediaStorage storage;
    MediaOrigin origin;
    int users; // MediaUsers
};

extern const MediaFile MediaFiles[]; // in the order of media_files.def
extern const int MediaFileCount;

#endif
