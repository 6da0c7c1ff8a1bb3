#pragma once

// What the benchmark sources share with the benchmark's main().

// Closes the editor dialog the editor benchmarks drive, if one was made.
// Called before the toolkit's application object goes away.
void CloseBenchEditor();
