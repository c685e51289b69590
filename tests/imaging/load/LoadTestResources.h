// Resource numbers of the load tests' resources (LoadTest.rc).
#pragma once

#define IDT_CUSTOM_ICON 101
#define IDT_BITMAP 102
#define IDT_ICON 103
#define IDT_CURSOR 104
