#include "MakeCode.h"

#include "OutputForm.h"
#include "SourceEmitter.h"

namespace {

// The form the keys name. Keys outside the tables were refused by the
// parser; should one reach here, that choice takes its default.
CodeForm FormOf(const CodeChoices& choices) {
    return CodeFormFromKeys(choices.layout, choices.language, choices.size);
}

} // namespace

std::string UnavailableChoice(const CodeChoices& choices) {
    const CodeForm form = FormOf(choices);
    if (IsSizeOffered(form.size, form.style, form.language))
        return {};
    return "the size companion \"" + choices.size + "\" does not go with the layout \"" +
           choices.layout + "\" in " + std::string(LanguageOf(form.language).key) + ": " +
           std::string(LanguageOf(form.language).takesSize
                           ? "leading size bytes are written before bytes only"
                           : "its text carries the size itself") +
           ".";
}

std::string MakeCode(const CodeSprite& sprite, const CodeChoices& choices) {
    return EmitCode(FormOf(choices), sprite.name, {sprite.width, sprite.nHeight, sprite.pixels});
}
