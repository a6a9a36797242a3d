#include "document/document.h"

#include "data/country_table.h"
#include "data/table_bytes.h"
#include "settings/memory_settings_store.h"
#include "settings/remembered_values.h"

namespace pelorin {

CPelorinDoc::CPelorinDoc() {
    MemorySettingsStore empty;
    load(empty);
}

CPelorinDoc::CPelorinDoc(SettingsStore& store) { load(store); }

// The canvases start clear; then the remembered values are read, and only then
// the tables are taken in.
void CPelorinDoc::load(SettingsStore& store) {
    readRememberedValues(*this, store);
    countryTable = countryTableBytes();
    operatorTable = operatorTableBytes();
    loadCountries(countryTable, countryCodes, countryNames);
}

Canvas& CPelorinDoc::canvas(LogoKind kind) {
    switch (kind) {
        case LogoKind::Picture:
            return pictureCanvas;
        case LogoKind::LargeOperator:
            return largeOperatorCanvas;
        case LogoKind::Operator:
            break;
    }
    return operatorCanvas;
}

const Canvas& CPelorinDoc::canvas(LogoKind kind) const { return const_cast<CPelorinDoc*>(this)->canvas(kind); }

}  // namespace pelorin
