#pragma once

// Start-up is measured in a fresh process each time (the list window exists once per run):
// the benchmark starts itself with one of these options and the data root, and the child prints
// the milliseconds from just before start-up to the moment its work is done.
bool isStartUpChild(const char *option);
int runStartUpChild(const char *option, const char *root);

// The peak memory of the preview and of the export is measured in a fresh process the same way:
// the child previews or exports the scaled year's report and prints its peak resident size in
// kilobytes.
bool isPreviewMemoryChild(const char *option);
int runPreviewMemoryChild(const char *option, const char *root);
