// Imports the same arbitrary bytes as an ngg, a nol and an nlm file; each
// image read must be written and read back unchanged.

#include <cstddef>
#include <cstdint>

#include "document/import_file.h"
#include "formats/phone_logo.h"
#include "fuzz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using pelorin::PhoneLogoFormat;
    for (auto [format, path] : {std::pair{PhoneLogoFormat::Ngg, "in.ngg"}, std::pair{PhoneLogoFormat::Nol, "in.nol"},
                                std::pair{PhoneLogoFormat::Nlm, "in.nlm"}}) {
        pelorin::fuzz::FuzzDocument d;
        d.files.files[path].assign(data, data + size);
        const pelorin::ImportResult read = pelorin::readLogoFile(d.files, path);
        if (read.outcome != pelorin::ImportOutcome::Imported || !read.canvas) __builtin_trap();
        if (read.kind != pelorin::LogoKind::Operator) __builtin_trap();
        read.applyTo(d.document);

        const auto written = pelorin::encodePhoneLogo(format, d.document.operatorCanvas);
        pelorin::Canvas reread(pelorin::sizeOf(pelorin::LogoKind::Operator));
        pelorin::decodePhoneLogo(format, written, reread);
        if (!(reread == d.document.operatorCanvas)) __builtin_trap();
        (void)pelorin::phoneLogoDeclaredSize(format, d.files.files[path]);
    }
    return 0;
}
