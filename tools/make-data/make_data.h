#pragma once
// The generated part of the demo data set: every binary file the hand-
// written sources under data/ name, except the models, sounds and music
// that the models generator makes. Made with a renderer that loads nothing,
// so no file is read while the set is made.
#include "tools/data-kit/data_files.h"

void MakeDataSet(data_files_t& _files);
