// data_files.cpp -- the names of the files the show reads, under data/ in
// its directory: every mesh and texture slot's file and the song. The data
// generator makes exactly these.
#include "assets/assets.h"

const char *const kMeshFiles[kMeshSlots] = {
    "data/ball01.dxf", "data/balm01.dxf", "data/balm02.dxf", "data/balm03.dxf", "data/balm01.dxf",
};

const char *const kTextureFiles[kTextureSlots] = {
    "data/t00.bmp", "data/t01.bmp", "data/t02.bmp", "data/t03.bmp", "data/t04.bmp", "data/t05.bmp",
    "data/t06.bmp", "data/t07.bmp", "data/t08.bmp", "data/t09.bmp", "data/t10.bmp", "data/t11.bmp",
    "data/t12.bmp", "data/t13.bmp", "data/t14.bmp", "data/t15.bmp", "data/t16.bmp", "data/lod.bmp",
};

const char *const kSongFile = "data/demotune.xm";
