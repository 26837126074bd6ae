#!/bin/sh
# Writes the outputs of zandor-cli on the sample tables that must not change when
# the code is reshaped without changing behaviour: single-region and urban-rural
# projections, life tables of every method and width, and seeded target plans.
# Take them once with the old build, once with the new one, and compare:
#
#   scripts/behaviour-baseline.sh old-build /tmp/before
#   scripts/behaviour-baseline.sh new-build /tmp/after
#   diff -r /tmp/before /tmp/after        # nothing: byte-identical
#
# Every command's exit status goes to status.txt, so a refusal that changes is
# seen as well as an output that changes.
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR OUT_DIR" >&2
    exit 64
fi
cli="$1/src/zandor-cli"
out="$2"
here=$(cd "$(dirname "$0")/.." && pwd)
single="$here/samples/single_region.DB"
urban="$here/samples/urban_rural.DB"
[ -x "$cli" ] || { echo "$0: no program $cli" >&2; exit 1; }
mkdir -p "$out" || exit 1
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
: > "$out/status.txt"

# run NAME ARGS...: standard output to NAME, the exit status to status.txt
run() {
    name="$1"; shift
    "$cli" "$@" > "$out/$name" 2> "$out/$name.err"
    echo "$name $?" >> "$out/status.txt"
}

set -- --male-pop 男性人口 --female-pop 女性人口 --male-rates 男性死亡率 \
    --female-rates 女性死亡率 --fertility 年龄别生育率
run project.csv          project "$single" "$@" --base-year 2020 --end-year 2050
run project-ages.csv     project "$single" "$@" --base-year 2020 --end-year 2050 --ages
run project-listing.txt  project "$single" "$@" --base-year 2020 --end-year 2050 --listing 总人口数
run project-exact.csv    project "$single" "$@" --base-year 2020 --end-year 2050 --exact

# A schedule file through both projection commands: the shared reading of it is
# part of what must stay the same.
cat > "$out/schedule-single.in" <<'CSV'
row,2021,2022,2023,2024,2025
tfr,1.6,1.7,1.8,1.8,1.8
e0_male,75.5,76,76.5,77,77.5
sex_ratio,1.05,1.05,1.05,1.05,1.05
CSV
run project-schedule.csv project "$single" "$@" --base-year 2020 --end-year 2025 \
    --schedule "$out/schedule-single.in" --migrants

# Seeded target plans, one and two threads; the report files are part of the output.
for threads in 1 2; do
    dir="$out/target-plan-t$threads"
    rm -rf "$dir"; mkdir -p "$dir"
    run "target-plan-t$threads.csv" target-plan "$single" "$@" --from 2000 --to 2003 \
        --target 9900000 --runs 6 --seed 1 --threads "$threads" --report-dir "$dir"
done

set -- --rural-male-pop 农村男性人口 --rural-female-pop 农村女性人口 \
    --rural-male-rates 农村男性死亡率 --rural-female-rates 农村女性死亡率 \
    --rural-fertility 农村年龄别生育率 --urban-male-pop 城镇男性人口 \
    --urban-female-pop 城镇女性人口 --urban-male-rates 城镇男性死亡率 \
    --urban-female-rates 城镇女性死亡率 --urban-fertility 城镇年龄别生育率
run project-ur.csv         project-ur "$urban" "$@" --base-year 2020 --end-year 2050
run project-ur-ages.csv    project-ur "$urban" "$@" --base-year 2020 --end-year 2050 --ages
run project-ur-listing.txt project-ur "$urban" "$@" --base-year 2020 --end-year 2050 --listing 总人口数
cat > "$out/schedule-ur.in" <<'CSV'
row,2021,2022,2023
tfr_urban,1.2,1.3,1.4
e0_rural_female,79,79.5,80
movers_male,1000,1200,1400
movers_female,900,1100,1300
mover_share_male_20,0.3,0.3,0.4
mover_share_male_25,0.7,0.7,0.6
mover_share_female_22,1,1,1
CSV
run project-ur-schedule.csv project-ur "$urban" "$@" --base-year 2020 --end-year 2023 \
    --schedule "$out/schedule-ur.in" --exact

# Life tables: single years on the sample; five-year groups on a small abridged
# table (0, 1-4, 5-9, ..., 85+) imported here, since the sample has 101 single years.
abridged="$out/abridged.work"
rm -rf "$abridged"; mkdir -p "$abridged"
cat > "$abridged/groups.csv" <<'CSV'
组,死亡率,人口,死亡人数
0,0.0068,98000,666.4
1,0.00035,395000,138.25
5,0.00017,510000,86.7
10,0.00016,530000,84.8
15,0.00031,560000,173.6
20,0.00052,600000,312
25,0.00061,640000,390.4
30,0.00079,620000,489.8
35,0.0011,590000,649
40,0.0017,570000,969
45,0.0027,540000,1458
50,0.0043,500000,2150
55,0.0068,450000,3060
60,0.0109,380000,4142
65,0.0178,300000,5340
70,0.0298,230000,6854
75,0.0502,160000,8032
80,0.0851,95000,8084.5
85,0.1754,60000,10524
CSV
"$cli" import "$abridged/groups.csv" "$abridged/groups.DB" > /dev/null 2>&1
for method in uniform chiang coale-demeny un; do
    run "lifetable-1-$method-male.csv" lifetable "$single" --rates 男性死亡率 --method "$method" --sex Male
    run "lifetable-1-$method-female.csv" lifetable "$single" --rates 女性死亡率 --method "$method" --sex Female
    run "lifetable-5-$method.csv" lifetable "$abridged/groups.DB" --rates 死亡率 --width 5 --method "$method" --sex Male
    run "lifetable-5-$method-counts.csv" lifetable "$abridged/groups.DB" --population 人口 \
        --deaths 死亡人数 --width 5 --method "$method" --sex Female
done
run lifetable-1-formatted.txt lifetable "$single" --rates 男性死亡率 --formatted
run lifetable-5-formatted.txt lifetable "$abridged/groups.DB" --rates 死亡率 --width 5 --formatted
rm -rf "$abridged"
exit 0
