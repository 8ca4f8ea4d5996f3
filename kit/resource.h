// Control ids of the distribution installer's dialog templates.
#ifndef KIT_RESOURCE_H
#define KIT_RESOURCE_H

#define IDC_TARGET_DIR 100 // "idir": the directory to install into, the field the user edits
#define IDC_CANCEL 101
#define IDC_CONTINUE 102   // also the end message's OK
#define IDC_SOURCE_DIR 103 // "idir": where the files come from, disabled
#define IDC_NEW_DIR 103    // "crdir": the directory to create, disabled

#endif
