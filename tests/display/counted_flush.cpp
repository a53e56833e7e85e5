// counted_flush.cpp -- counts the frames the drawing tests show, passing every flush on.
int flush_count = 0;

extern "C" void __real__Z13flush_consolev();

// The game's calls of flush_console arrive here through the linker's --wrap.
extern "C" void __wrap__Z13flush_consolev() {
    flush_count++;
    __real__Z13flush_consolev();
}
