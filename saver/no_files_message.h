#pragma once
// The "no image files" message box of a show's start.

// Installs the message box as the media lists' no-files hook (once per process).
void InstallNoFilesMessage();
