// Writes Internet Shortcut files ("[InternetShortcut]" and "URL=" lines) into
// a save folder.
#pragma once

#include <string>
#include <string_view>

#include "core/cliptext.h"
#include "core/extract.h"

namespace ixo {

// Writes `folder`\`rec.Title`.URL when the address begins with "http:/" or
// "ftp://" (with `https` on, also "https://") and the folder exists; false
// (and no file) otherwise. The title is cut where it is too long for a file
// name (FitTitle); the URL= line holds the address's code page 932 bytes,
// with what that code page cannot hold percent-encoded in UTF-8. Throws
// Error("ファイル %s を作成できません") when the file cannot be created or
// written whole; no file is left then.
// With `written`, it gives the file's name.
bool MakeURLFile(std::wstring_view folder, const TURLText& rec, bool https = false,
                 std::wstring* written = nullptr);
// The same for a record of code page 932 text.
bool MakeURLFile(std::string_view folder, const TURLRecord& rec, bool https = false);

// Gives the shortcut `file`, saved in `folder`, the name a save of `title`
// gives it, replacing a file of that name as every save does. False (and
// nothing changed) when `file` is gone or the name cannot be had.
bool RenameURLFile(std::wstring_view folder, const std::wstring& file, std::u16string_view title);

// True when a search of `folder` finds at least one entry that is neither
// hidden, system nor a disk label (normally its "." entry).
bool FolderExists(std::wstring_view folder);
bool FolderExists(std::string_view folder);

}  // namespace ixo
