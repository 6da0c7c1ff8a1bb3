#include "MakeCode.h"

#include "SourceEmitter.h"

std::string UnavailableChoice(const CodeChoices& choices) {
    if (!CodeStyleFromKey(choices.layout))
        return "the layout \"" + choices.layout +
               "\" is not written by this build yet; it writes rows, xbm and pages.";
    if (choices.language != "c")
        return "the language \"" + choices.language +
               "\" is not written by this build yet; it writes c.";
    if (choices.size != "none")
        return "the size companion \"" + choices.size +
               "\" is not written by this build yet; it writes none.";
    return {};
}

std::string MakeCode(const CodeSprite& sprite, const CodeChoices& choices) {
    return EmitDeclaration(CodeStyleFromKey(choices.layout).value_or(CodeStyle::Rows),
                           sprite.nWidthIndex, sprite.name, sprite.nHeight, sprite.pixels);
}
