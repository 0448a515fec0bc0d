// show_data.h -- the show's data files as one list, each made and written on
// its own: the textures, the meshes and the song, under the names the show's
// preload reads. The build writes them all into build/data; the browser
// makes them in the page, one at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct DataFile {
    std::string name;                            // inside the data directory
    std::function<std::vector<uint8_t>()> make;  // its bytes (the textures need the fonts open)
};

// Every file, the textures first, then the meshes and the song.
const std::vector<DataFile> &showDataFiles();
// Makes one file and writes it as dir/name; false after saying why on stderr.
bool writeDataFile(const DataFile &file, const std::string &dir);
// The files the show reads that the list does not make; empty when it makes them all.
std::vector<std::string> filesNotMade();
// Before the first file: the list makes every file the show reads, and the
// fonts open from fontDir (ending in '/'); false after saying why on stderr.
// closeFonts (font_text.h) after the last.
bool startShowData(const std::string &fontDir);
