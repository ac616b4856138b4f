#pragma once
// Installs the scene importers of this library in the scene loader's slots;
// called once at start-up, before the first scene is loaded.
void RegisterSceneImporters();
