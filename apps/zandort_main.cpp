// ZandorT: the edition with population target planning and without migrant features.
#include "ui/app/application.h"

int main(int argc, char** argv) { return zandor::ui::runApplication(argc, argv, zandor::Edition::Target); }
