#pragma once
// The "no image files" message box of a show's start.

// Shows it above the show's windows and waits for the user.
void ShowNoFilesMessage();
