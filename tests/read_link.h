// A shell link read back through the shell's own link object.
#ifndef READ_LINK_H
#define READ_LINK_H

#include <string>

struct Link {
    bool loaded;
    std::string target, description;
};

// COM is initialised by the caller.
Link ReadLink(const std::string &path);

#endif
