#pragma once

// Ids of the resources in brisquel.rc; included by the resource script and the code that loads them.
#define IDI_APP_ICON 1
#define IDR_CHIME 2
