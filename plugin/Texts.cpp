// UTF-8 here; the compiler turns every literal into code page 932.
#include "Texts.h"

const char BoxCaption[] = " Tavimore";
const char TextCannotRead[] = "\r\n ファイルが読み込めません。";
const char TextSizeZero[] = "\r\n指定ファイルはサイズがゼロです。";
const char TextNotText[] = "\r\n指定ファイルはテキストとして扱えません。";
const char TextCannotCreate[] = " は\r\n作成出来ません。";
const char TextCannotRename[] = " に\r\n変更出来ません。";
const char StatusTemplate[] = "作成フォルダー %3u / %2u\r\nコピーファイル %4u / %2u\r\nエラー:%2u ";
const char StatusMoveWord[] = " 移動 ";
const char StatusCopyWord[] = "コピー";
const char ClosingCancelled[] = "キャンセル されました。";
const char ClosingErrors[] = "  エラー が有りました。";
const char LargeFileFormat[] = "≫%4u MB %s";
const char MarkCopied[] = "→";
const char MarkReplaced[] = "◎";
const char MarkFolderMade[] = "●";
const char MarkFailed[] = "×";
const char ButtonOk[] = "&OK";
const char TitleNameCreate[] = " 作成ファイル名の入力";
const char TitleNameRename[] = " 変更ファイル名の入力";
const char TitleProgressCopy[] = " コピーしています";
const char TitleProgressMove[] = " 移動 しています";
const char TitleBrowserCopy[] = " コピー先 フォルダー";
const char TitleBrowserMove[] = " 移動先 フォルダー";
const char HostTextCopy[] = " コピー";
const char HostTextMove[] = "  移 動";
const char LabelMove[] = "  移 動";
const char LabelNew[] = " 新規";
const char LabelUpdate[] = " 更新";
const char LabelBelow[] = " 以下";
const char MenuCopyLog[] = "& コピー";
const char NewFileName[] = "NewFile";
const char HistoryFileName[] = "\\TavimoreCP.dst";
