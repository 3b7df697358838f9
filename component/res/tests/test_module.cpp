// A module that carries a deliverable's resources, for the tests to load.
extern "C" int ResourceModuleMarker()
{
    return 1;
}
