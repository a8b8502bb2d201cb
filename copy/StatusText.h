// Status text of a copy run: the five counters in the status template, the
// move wording of line 2 and the closing sentence. Free of <windows.h>.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The longest text (every count at ten digits and a closing sentence, 121
// bytes) and its NUL.
enum { StatusTextSize = 122 };

// The counts in the order the template shows them.
struct StatusCounts {
    uint32_t foldersCreated;
    uint32_t foldersSeen;
    uint32_t filesCopied;
    uint32_t filesSeen;
    uint32_t errors;
};

// Bits of the run's outcome code that concern the text.
enum StatusClosingBits : unsigned {
    ClosingWanted = 0x01,    // append a closing sentence
    ClosingForErrors = 0x02, // errors sentence when set, cancel sentence when clear
};

// Composes the status text into text, a buffer of size bytes owned by the
// caller: the template filled with counts (line 2 with the move wording when
// moveWording), then the closing sentence when code asks for one. A text that
// does not fit is cut between characters and always terminated. Returns the
// length written without the NUL; writes nothing when size is 0.
size_t ComposeStatusText(char* text, size_t size, const StatusCounts& counts, bool moveWording, unsigned code);
