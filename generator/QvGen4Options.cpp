#include "QvGen4Options.h"

#include "QvGen4.h"
#include "QvGen4Property.h"

void TQvGen4Options::SetEnableDuplexIntMod(bool Value) {
    if (!AssignProperty(FEnableDuplexIntMod, Value)) {
        return;
    }
    if (FOwner.ChA.Mode() == QGMdC_IntModulation && FOwner.ChB.Mode() == QGMdC_IntModulation) {
        FOwner.TryUpdateMode();
    }
}
