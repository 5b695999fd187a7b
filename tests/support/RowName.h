// Names each case of a parameterised test after its row's `name`, so a failure says which row.
#pragma once

#include <gtest/gtest.h>

#include <string>

struct RowName
{
    template <typename Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const
    {
        return info.param.name;
    }
};
