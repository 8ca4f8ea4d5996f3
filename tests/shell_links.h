// Shell links read back through the shell's own link object (COM initialised
// by the caller).
#ifndef SHELL_LINKS_H
#define SHELL_LINKS_H

#include <string>

struct Link {
    bool loaded;
    std::string target, description;
};

Link ReadLink(const std::string &path);

#endif
