// The in-place data-file reader against the field reader and the leading-number rule on
// copied text: the same values, the same count of fields without a number and the same
// first line of one. Works in memory, so it runs many more inputs than fuzz_data_file.
#include "FuzzSupport.h"
#include "core/EvalError.h"
#include "core/FieldReader.h"
#include "core/Numbers.h"
#include "files/DataFileIo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    DataValues fast;
    if (RunStep([&] { fast = ReadDataValues(content); }) != 0) {
        FUZZ_CHECK(FieldReader(content).CountRemaining() > MaxDataValues);
        return 0;
    }
    FieldReader reader(content);
    std::vector<double> values;
    qsizetype notNumbers = 0;
    int firstLine = 0;
    while (!reader.AtEnd()) {
        bool isNumber = false;
        values.push_back(Val(reader.Next(), &isNumber));
        if (!isNumber && notNumbers++ == 0)
            firstLine = reader.Line();
    }
    FUZZ_CHECK(values.size() == fast.Values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        FUZZ_CHECK(values[i] == fast.Values[i]);
    FUZZ_CHECK(notNumbers == fast.NotNumbers);
    FUZZ_CHECK(firstLine == fast.FirstNotNumberLine);
    FUZZ_CHECK(fast.NoNumberAtAll() == (!values.empty() && notNumbers == qsizetype(values.size())));
    return 0;
}
