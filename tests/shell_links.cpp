#include "shell_links.h"

#include <shlobj.h>

Link ReadLink(const std::string &path)
{
    Link l{false, "", ""};
    IShellLinkA *link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void **>(&link))))
        return l;
    IPersistFile *file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[1024];
            l.loaded = true;
            if (SUCCEEDED(link->GetPath(text, sizeof text, NULL, SLGP_RAWPATH)))
                l.target = text;
            if (SUCCEEDED(link->GetDescription(text, sizeof text)))
                l.description = text;
        }
        file->Release();
    }
    link->Release();
    return l;
}
