// Parameter translations: the rows reach the host in their order, duplicates included, and a
// failing row leaves exactly the rows before it.
#include "driver/param_translations.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

namespace {

using host_row = vantu::control::translation_row;

std::vector<std::vector<int>> host_rows()
{
    std::vector<std::vector<int>> out;
    for (const host_row& r : vantu::control::translation_rows())
        out.push_back({r.parameter, r.message, r.kind, r.second_message});
    return out;
}

std::vector<std::vector<int>> rows_of(std::initializer_list<std::span<const translation_row>> lists)
{
    std::vector<std::vector<int>> out;
    for (std::span<const translation_row> list : lists)
        for (const translation_row& r : list) out.push_back({r.parameter, r.message, r.kind, r.second_message});
    return out;
}

class ParamTranslations : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

TEST_F(ParamTranslations, ListsHoldTheirRowsInOrder)
{
    EXPECT_EQ(common_translations_first().size(), 46u);
    EXPECT_EQ(common_translations_second().size(), 8u);
    EXPECT_EQ(common_translations_third().size(), 60u);
    const auto first = rows_of({common_translations_first()});
    EXPECT_EQ(first.front(), (std::vector<int>{3209, 607, 2, 615}));
    EXPECT_EQ(first[10], (std::vector<int>{3212, 639, 2, 642}));
    EXPECT_EQ(first[12], (std::vector<int>{3212, 643, 2, 646}));
    EXPECT_EQ(first[19], (std::vector<int>{603, 1270, 2, -1}));
    EXPECT_EQ(first.back(), (std::vector<int>{3113, 835, 1, -1}));
    const auto second = rows_of({common_translations_second()});
    EXPECT_EQ(second.front(), (std::vector<int>{366, 870, 1, -1}));
    EXPECT_EQ(second[5], (std::vector<int>{3325, 1340, 2, 1343}));
    EXPECT_EQ(second.back(), (std::vector<int>{3301, 1048, 1, -1}));
    const auto third = rows_of({common_translations_third()});
    EXPECT_EQ(third.front(), (std::vector<int>{3001, 696, 5, -1}));
    EXPECT_EQ(third[15], (std::vector<int>{3006, 723, 2, -1}));
    EXPECT_EQ(third[47], (std::vector<int>{412, 1049, 1, -1}));
    EXPECT_EQ(third.back(), (std::vector<int>{3050, 732, 1, -1}));
}

TEST_F(ParamTranslations, RegisterTwoSendsTheFirstListThenTheSecond)
{
    int status = -9;
    nc_trns_register2(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(host_rows(), rows_of({common_translations_first(), common_translations_second()}));
    // The same parameter with different labels goes to the host each time.
    int count_3219 = 0;
    for (const auto& r : host_rows()) count_3219 += r[0] == 3219;
    EXPECT_EQ(count_3219, 4);
}

TEST_F(ParamTranslations, RegisterSendsTheThirdList)
{
    int status = -9;
    nc_trns_register(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(host_rows(), rows_of({common_translations_third()}));
}

TEST_F(ParamTranslations, FailureAtRowKLeavesTheRowsBeforeIt)
{
    const auto all_two = rows_of({common_translations_first(), common_translations_second()});
    const auto all_three = rows_of({common_translations_third()});
    struct row {
        void (*registration)(int&);
        const std::vector<std::vector<int>>* rows;
        long k;
    };
    const row rows[] = {
        {nc_trns_register2, &all_two, 1},   {nc_trns_register2, &all_two, 13},  {nc_trns_register2, &all_two, 46},
        {nc_trns_register2, &all_two, 47},  {nc_trns_register2, &all_two, 54},  {nc_trns_register, &all_three, 1},
        {nc_trns_register, &all_three, 31}, {nc_trns_register, &all_three, 60},
    };
    for (const row& r : rows) {
        vantu::control::reset();
        vantu::control::inject_fault("nu_trns_add", r.k, 1, -3);
        int status = 0;
        r.registration(status);
        EXPECT_EQ(status, -3) << "row " << r.k;
        const auto expected = std::vector<std::vector<int>>(r.rows->begin(), r.rows->begin() + (r.k - 1));
        EXPECT_EQ(host_rows(), expected) << "row " << r.k;
    }
}

TEST_F(ParamTranslations, SecondListAloneRegistersEightRows)
{
    int status = -9;
    add_param_translations(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(host_rows(), rows_of({common_translations_second()}));
}

}  // namespace
