// A field formatter of the edit fields used as a cell formatter: the cell's
// value goes in as the typed characters of an edit request on the field's
// empty text,
// and the text the request produces is what the cell shows. Written against
// the shape of a field formatter's apply (text, characters, count,
// selection), so that it needs no more than that.
#ifndef KYT_FRAMEWORK_FIELDCELLFORMATTER_H
#define KYT_FRAMEWORK_FIELDCELLFORMATTER_H

#include "FieldFormatter.h"
#include "TableModel.h"

#include <string>
#include <type_traits>

template <typename Member>
struct ApplySelectionOf;
template <typename C, typename R, typename Text, typename Ch, typename S>
struct ApplySelectionOf<R (C::*)(Text&, Ch*, int, S&)> {
    typedef S type;
};

// Results of apply: refused, accepted as typed, done.
enum FieldApplyResult { FIELD_REFUSED = 0, FIELD_AS_TYPED = 1, FIELD_DONE = 2 };

template <typename Formatter>
class FieldCellFormatter : public CellFormatter {
public:
    // The field formatter is owned from now on.
    explicit FieldCellFormatter(Formatter* owned) : field(owned) {}
    ~FieldCellFormatter() override { delete field; }

    std::string format(const std::string& characters, int first, int last) override
    {
        typedef typename ApplySelectionOf<decltype(&Formatter::apply)>::type Selection;
        // First the field's empty text, as a field shows before it is
        // loaded (a mask lays out its fixed characters there).
        std::string text;
        {
            Selection none{0, 0};
            char nothing = 0;
            if (field->apply(text, &nothing, 0, none) != FIELD_DONE)
                text.clear();
        }
        std::string typed = characters;
        typed.push_back('\0');
        Selection selection{first, last};
        const int count = static_cast<int>(characters.size());
        switch (field->apply(text, &typed[0], count, selection)) {
        case FIELD_DONE: return text;
        case FIELD_AS_TYPED: return typed.substr(0, characters.size());
        // A value the formatter refuses stays visible as it is, rather than
        // the cell showing nothing.
        default: return characters;
        }
    }
    Formatter* formatter() const { return field; }
    FieldFormatter* fieldFormatter() override
    {
        if constexpr (std::is_base_of<FieldFormatter, Formatter>::value)
            return field;
        else
            return nullptr;
    }

private:
    Formatter* field;
    FieldCellFormatter(const FieldCellFormatter&) = delete;
    FieldCellFormatter& operator=(const FieldCellFormatter&) = delete;
};

#endif
