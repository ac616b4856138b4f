#pragma once
// Installs the readers of the camera-facing and particle effects ("SPRT",
// "ANIM", "FLRE", "EMIT", "TRAL") in the object loader, so engine object
// files and aggregates holding them load. Called once at start-up.
void RegisterEffectReaders();
