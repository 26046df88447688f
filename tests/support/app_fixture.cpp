#include "app_fixture.h"

#include "app/forms.h"
#include "board/whiteboard.h"

void AppFixture::createProgram() {
    application = std::make_unique<TApplication>(QStringLiteral("K_Vorne"));
    Application = application.get();
    // The fake desktop lists the program's own application window like any other.
    fakes.windows.addWindow(application->Title());
    createForms();
    // The default teacher writes smooth ink; the tests' pixels are those of the exact pen.
    boardModel().setSmoothInk(false);
}

void AppFixture::SetUp() {
    if (createInSetUp())
        createProgram();
}

void AppFixture::TearDown() {
    if (application) {
        destroyForms();
        Application = nullptr;
        application.reset();
    }
}
