#include "StatusText.h"
#include "PathText.h"
#include "Texts.h"
#include <stdio.h>
#include <string.h>

namespace {

// Room for the template and for the text it gives, with margin over the
// longest case.
enum { PatternSize = 128, ComposeSize = 192 };

// Copies the template into pattern, with line 2's first word replaced by the
// move wording when asked. Returns false when the template does not fit.
bool PreparePattern(char* pattern, bool moveWording) {
    if (!CopyToEnd(pattern, StatusTemplate, pattern + PatternSize, CopyWhole)) return false;
    if (!moveWording) return true;
    char* line2 = strstr(pattern, "\r\n");
    size_t wordLength = strlen(StatusCopyWord);
    if (line2 && strlen(StatusMoveWord) == wordLength && strncmp(line2 + 2, StatusCopyWord, wordLength) == 0)
        memcpy(line2 + 2, StatusMoveWord, wordLength);
    return true;
}

}  // namespace

size_t ComposeStatusText(char* text, size_t size, const StatusCounts& counts, bool moveWording, unsigned code) {
    if (size == 0) return 0;
    text[0] = '\0';
    char pattern[PatternSize];
    if (!PreparePattern(pattern, moveWording)) return 0;
    char composed[ComposeSize];
    int length = snprintf(composed, sizeof composed, pattern, static_cast<unsigned>(counts.foldersCreated),
                          static_cast<unsigned>(counts.foldersSeen), static_cast<unsigned>(counts.filesCopied),
                          static_cast<unsigned>(counts.filesSeen), static_cast<unsigned>(counts.errors));
    if (length < 0 || static_cast<size_t>(length) >= sizeof composed) return 0;
    char* end = composed + length;
    if (code & ClosingWanted) {
        const char* sentence = (code & ClosingForErrors) ? ClosingErrors : ClosingCancelled;
        end = CopyToEnd(end, sentence, composed + sizeof composed, CopyCut);
    }
    (void)end;
    char* written = CopyToEnd(text, composed, text + size, CopyCut);
    return static_cast<size_t>(written - text);
}
