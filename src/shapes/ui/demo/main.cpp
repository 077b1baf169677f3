// anivor-shapes-demo: the smart shapes on a window of their own, for trying them out and
// for screenshots.
#include "shapes/ui/ShapesDemoForm.h"

#include "platform/ui/AnivorApplication.h"

int main(int argc, char** argv)
{
    TAnivorApplication app(argc, argv);
    TShapesDemoF form;
    form.show();
    return app.exec();
}
