#pragma once
// The keys of a record and how each one fills its field.
#include "documents/DocumentText.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

template <class R> class FieldTable {
public:
    using Setter = std::function<void(R&, std::string_view)>;

    FieldTable& text(std::string_view key, std::string R::*field) {
        setters_[std::string(key)] = [field](R& r, std::string_view v) {
            r.*field = std::string(v);
        };
        return *this;
    }
    template <class T> FieldTable& number(std::string_view key, T R::*field) {
        setters_[std::string(key)] = [field](R& r, std::string_view v) {
            assignNumber(r.*field, v);
        };
        return *this;
    }
    FieldTable& custom(std::string_view key, Setter setter) {
        setters_[std::string(key)] = std::move(setter);
        return *this;
    }

    // Fills a fresh record from the text's lines; unknown keys are ignored.
    R read(std::string_view text) const {
        R record{};
        forEachEntry(text, [&](std::string_view key, std::string_view value) {
            const auto it = setters_.find(std::string(key));
            if (it != setters_.end())
                it->second(record, value);
            return true;
        });
        return record;
    }

private:
    std::unordered_map<std::string, Setter> setters_;
};
