// The program's entry. "--version" is answered here, before the toolkit
// opens a display, so that it works where there is none (a server, a
// package check); everything else goes to the toolkit's entry.
#include <cstdio>
#include <string_view>

#include <wx/app.h>

#include "app/my_app.h"
#include "settings/product.h"

wxIMPLEMENT_APP_NO_MAIN(sonorel::MyApp);

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("%s\n", sonorel::kProductNameAndVersion);
        return 0;
    }
    return wxEntry(argc, argv);
}
