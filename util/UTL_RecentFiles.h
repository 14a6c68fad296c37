#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The graph files opened lately, newest first and at most Capacity of them, kept in a small
// text file of the user's (one absolute path a line) so that every window of the program, now
// and later, offers the same list. Files that are no longer there drop out as the list is read.
// A damaged list (a binary file, lines that are no paths, one far too long) reads as far as it
// makes sense and never past a bound; it is replaced whole by the next Add.
//
// Paths are the file system's bytes, as the program was given them. No Qt.
class UTL_RecentFiles
{
public:
    static constexpr size_t Capacity = 8;
    // No more of the list file is read than its whole list can take.
    static constexpr size_t MaxPathBytes = 4096;
    static constexpr size_t MaxFileBytes = Capacity * (MaxPathBytes + 1);

    // Where the user's list lives: halvane/recent in $XDG_CONFIG_HOME, or in ~/.config where
    // that is unset, empty or not an absolute path (the base directory rule); empty when HOME
    // is not set either.
    static std::string DefaultPath();

    explicit UTL_RecentFiles(std::string listPath) : listPath(std::move(listPath)) {}

    // Reads the list file again (a missing one is an empty list), dropping files that are gone.
    void Load();
    // Puts `file` (made absolute) first, dropping its earlier place and the oldest past
    // Capacity, and writes the list; false with `error` set when the list cannot be written.
    // A name the list cannot hold (a line break in it, or past MaxPathBytes) is not remembered.
    bool Add(const std::string& file, std::string& error);
    // Drops `file` from the list (one that no longer opens) and writes the list.
    bool Remove(const std::string& file, std::string& error);

    const std::vector<std::string>& Files() const { return files; }
    const std::string& GetListPath() const { return listPath; }

private:
    bool Save(std::string& error) const;

    std::string listPath;
    std::vector<std::string> files;
};
