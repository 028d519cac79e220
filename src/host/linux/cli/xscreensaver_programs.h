// The hack's entry in the programs list of an XScreenSaver preferences file (~/.xscreensaver),
// added the way a person would add it by hand: one line, as the list's first entry, with every
// other byte of the file kept. Pure text work, so each shape of file can be tested on its own.
#pragma once

#include <string>
#include <string_view>

namespace tavrik {

// The entry's text: the name XScreenSaver lists, then the command that runs the hack.
std::string programsEntry(std::string_view command);

// Whether an entry of the programs list already runs the hack (its command word, or a path
// ending in it), enabled or not: a user who turned it off keeps it off.
bool programsRunHack(std::string_view text);

// The file's text with the entry added to its programs list (a list made where it has none);
// the text as it was when programsRunHack says so.
std::string withProgramsEntry(std::string_view text, std::string_view command);

// Adds the entry to the file at path (made when missing) and says in one line what it did;
// nothing changes when the entry is there already. The file is replaced atomically, keeping its
// permissions; a symbolic link in its place stays a link. False, with the file as it was, when
// it cannot be read or written.
bool addToXScreenSaver(const std::string& path, std::string_view command);

}  // namespace tavrik
