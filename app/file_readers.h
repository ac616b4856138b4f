#pragma once
// The one place where the program installs every file reader the engine
// loads through: the scene and object importers, the effect readers and the
// landscape readers (sky box, terrain, water, forest). Called first thing by
// the program, and by tools and tests that load game data; installing twice
// changes nothing. Registration lives here, not in static initialisers,
// because a static library drops the objects nothing refers to.
void RegisterFileReaders();
