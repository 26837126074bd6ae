// Zandor: the full edition.
#include "ui/app/application.h"

int main(int argc, char** argv) { return zandor::ui::runApplication(argc, argv, zandor::Edition::Full); }
