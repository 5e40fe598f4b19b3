// Resource identifiers shared by the resource script and the Win32 layer.
#pragma once
#define IDI_APP 1
#define IDI_APP_WARNING 2
