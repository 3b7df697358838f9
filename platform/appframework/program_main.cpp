// The entry of programs built on the application framework.
#include "platform/appframework/application.h"

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
