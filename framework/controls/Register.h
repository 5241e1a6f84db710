#pragma once
// The framework's standard component classes, made known to layouts by name.

// Registers every standard class (Application->Initialize and the first form read call it).
void RegisterStandardClasses();
