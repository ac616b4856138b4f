#pragma once
// Installs the scene importers of this library in the scene loader's slots,
// and the object importers the scenes load their objects with; called once
// at start-up, before the first scene or object is loaded.
void RegisterSceneImporters();
