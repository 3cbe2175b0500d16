#pragma once

// Makes placed calls go to the desktop's dialler as tel: URIs. The program calls this at start-up;
// without it a placed call is only recorded.
void UseDesktopDialler();
