// vx6207-app: the desktop application.
#include "ui/vx_sample_app.h"

int main(int argc, char** argv)
{
    CVxSampleApp app;
    return app.Run(argc, argv);
}
