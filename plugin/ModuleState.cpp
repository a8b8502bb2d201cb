#include "ModuleState.h"
#include "Texts.h"
#include <string.h>

ModuleState moduleState;
TextChoice textChoice = {TextCannotCreate, false, TitleNameCreate};

void ClearModuleState() {
    HINSTANCE instance = moduleState.moduleInstance;
    memset(&moduleState, 0, sizeof moduleState);
    moduleState.moduleInstance = instance;
    textChoice.failureSuffix = TextCannotCreate;
    textChoice.moveWording = false;
    textChoice.nameDialogTitle = TitleNameCreate;
}
