// A module that only carries resources, for the resource tests to load.
extern "C" int ResourceTestModuleMarker()
{
    return 1;
}
