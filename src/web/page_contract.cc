#include "web/page_contract.h"

#include <string_view>

#include "balance/input_fields.h"
#include "balance/soil_results.h"
#include "recharge_version.h"
#include "soil/soil_class_table.h"

namespace recharge::web {

namespace {

// Members and items of a JSON text, commas between them.
class Json {
 public:
  Json& Open(char bracket) {
    Separate();
    text_ += bracket;
    first_ = true;
    return *this;
  }
  Json& Close(char bracket) {
    text_ += bracket;
    first_ = false;
    return *this;
  }
  Json& Key(std::string_view key) {
    String(key);
    text_ += ':';
    first_ = true;
    return *this;
  }
  // The contract's texts are ASCII: quotes and backslashes are escaped.
  Json& String(std::string_view value) {
    Separate();
    text_ += '"';
    for (const char c : value) {
      if (c == '"' || c == '\\') text_ += '\\';
      text_ += c;
    }
    text_ += '"';
    return *this;
  }
  Json& Number(int value) {
    Separate();
    text_ += std::to_string(value);
    return *this;
  }
  Json& Bool(bool value) {
    Separate();
    text_ += value ? "true" : "false";
    return *this;
  }
  Json& Null() {
    Separate();
    text_ += "null";
    return *this;
  }
  Json& Strings(std::span<const std::string_view> values) {
    Open('[');
    for (const std::string_view value : values) String(value);
    return Close(']');
  }
  std::string Take() { return std::move(text_); }

 private:
  void Separate() {
    if (!first_) text_ += ',';
    first_ = false;
  }

  std::string text_;
  bool first_ = true;
};

void Inputs(Json& json) {
  json.Key("inputs").Open('[');
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputInfo& input = InfoOf(static_cast<InputField>(i));
    const QuantityInfo& quantity = InfoOf(input.quantity);
    json.Open('{');
    json.Key("name").String(input.name).Key("description").String(input.description);
    json.Key("quantity").String(quantity.name).Key("model_unit").String(quantity.model_unit);
    json.Key("offered").Strings(quantity.offered).Key("takes").String(quantity.takes);
    json.Key("group").String(GroupName(input.group)).Key("required").Bool(input.required);
    json.Key("month");
    if (input.month < 0) {
      json.Null();
    } else {
      json.Number(input.month + 4);
    }
    json.Close('}');
  }
  json.Close(']');
}

void Series(Json& json) {
  json.Key("series").Open('[');
  for (const MonthSeries& series : MonthSeriesList()) {
    json.Open('{').Key("name").String(series.name);
    json.Key("description").String(series.description).Key("fields").Open('[');
    for (int month = 0; month < kMonths; ++month) {
      json.String(FieldName(MonthField(series.first, month)));
    }
    json.Close(']').Close('}');
  }
  json.Close(']');
}

void Classes(Json& json) {
  json.Key("classes").Open('[');
  for (int number = 1; number <= kSoilClassCount; ++number) {
    json.Open('{').Key("number").Number(number).Key("name").String(SoilClass(number)->name);
    json.Close('}');
  }
  json.Close(']');
}

void Results(Json& json) {
  json.Key("results").Open('[');
  for (const ResultColumn& column : ResultColumns()) {
    json.Open('{').Key("name").String(column.name).Key("unit").String(column.unit);
    json.Key("description").String(column.description).Key("in_length").Bool(column.in_length);
    json.Close('}');
  }
  json.Close(']');
  json.Key("length_units").Strings(InfoOf(Quantity::kLength).offered);
}

}  // namespace

std::string ContractJson() {
  Json json;
  json.Open('{').Key("version").String(RECHARGE_VERSION);
  Inputs(json);
  Series(json);
  Classes(json);
  Results(json);
  return json.Close('}').Take();
}

}  // namespace recharge::web
