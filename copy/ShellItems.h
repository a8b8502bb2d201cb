// The items LnCopy hands to the shell's file operation: each is checked before
// it is handed over, and looked for at its target afterwards.
#pragma once
#include "HostContext.h"

// What an item is, as far as the shell's run is concerned.
enum ShellItemKind : unsigned char {
    ShellItemRefused = 0,  // not handed over
    ShellItemFile = 1,     // handed over; a file (or a source that is missing) goes to its target
    ShellItemFolder = 2,   // handed over; a folder goes to its target
};

// Room for a target path: a destination and a name, each shorter than a
// context field, so that a target too long for a path is still composed whole
// for its report.
enum { ShellTargetRoom = 2 * HostBufferSize };

// Writes the item's target (destination, which ends in "\", followed by the
// final name component of source) into target (ShellTargetRoom bytes) and
// decides whether the shell may take the item: its target path, and for a
// folder every path of its tree at the source and at the target, within 259
// bytes; no folder where a file would go, no file where a folder would go.
ShellItemKind CheckShellItem(const char* source, const char* destination, char* target);

// Writes the item's target into target (ShellTargetRoom bytes), as CheckShellItem does.
void ComposeShellTarget(const char* source, const char* destination, char* target);

// True when an entry of the item's kind stands at target.
bool ShellItemArrived(const char* target, ShellItemKind kind);
