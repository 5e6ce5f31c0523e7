#!/usr/bin/env python3
"""Writes the two rich host data stores of the golden reports (UTF-8 JSON).

Run once by hand; the stores are committed. Each value is chosen to reach an edge of
the report: escapes, half-width kana, 0x5C trail bytes, cuts, wraps, rounding, empty
slots, spare rows, duplicate codes and negative or fractional amounts.
"""
import json

Y = 10000  # one yen in host units


def line(row, code, name, amount, begin=0):
    return {"row": row, "code": code, "name": name, "begin": begin, "amount": amount}


def blue_general_pl():
    names = {
        101: "売上（収入）金額", 104: "期首商品棚卸高", 105: "仕入金額", 102: "小計", 106: "期末商品棚卸高",
        107: "差引原価", 103: "差引金額", 108: "租税公課", 109: "荷造運賃", 110: "水道光熱費",
        111: "旅費交通費", 112: "通信費", 113: "広告宣伝費", 114: "接待交際費", 115: "損害保険料",
        116: "修繕費", 117: "消耗品費", 118: "減価償却費", 119: "福利厚生費", 120: "給料賃金",
        121: "外注工賃", 122: "利子割引料", 123: "地代家賃", 124: "貸倒金",
        125: "《リース料》", 126: "(製) 車両 費", 127: "A&B<会費>\"'", 128: "　 ", 129: "表示料",
        130: "［予備］", 131: "雑費", 132: "計", 133: "差引金額", 135: "貸倒引当金",
        136: "【戻入】", 137: "", 138: "計", 140: "専従者給与", 141: "貸倒引当金",
        142: "ｸﾘｲﾚ予備", 143: "", 144: "計", 145: "青色申告特別控除前の所得金額",
        146: "青色申告特別控除額", 147: "所得金額"}
    amounts = {
        101: 52345678901, 104: 12345, 105: 20000000000, 102: 20000012345, 106: -15000,
        107: 9999, 103: 32345666556, 108: 1234567890, 109: 5000, 110: -9999, 111: 10000,
        112: -10000, 113: 99999, 114: 123456780000, 115: 0, 116: 4500000, 117: 1,
        118: 7770000000, 119: 1110000, 120: 24000000000, 121: 330000000, 122: 44000000,
        123: 1200000000, 124: 250000000, 125: 960000000, 126: 1320000000, 127: 12340000,
        128: 5550000, 129: 6660000, 130: 0, 131: 420000000, 132: 63000000000, 133: 9000000000,
        135: 520000000, 136: 30000000, 137: 40000000, 138: 590000000, 140: 18000000000,
        141: 697500000, 142: 11110000, 143: 0, 144: 18708610000, 145: 8300005000,
        146: 1000000000, 147: 7300005000}
    order = [101, 104, 105, 102, 106, 107, 103, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117,
             118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 135,
             136, 137, 138, 140, 141, 142, 143, 144, 145, 146, 147]
    rows = [line(i + 1, code, names[code], amounts[code]) for i, code in enumerate(order)]
    # A second line with code 125 later in the list: the first one is written.
    rows.append(line(46, 125, "重複リース料", 777770000))
    return rows


def blue_general_bs():
    assets = []
    asset_names = ["現金", "当座預金", "定期預金", "その他の預金", "受取手形", "売掛金", "有価証券",
                   "棚卸資産", "前払金", "貸付金", "建物", "建物附属設備", "機械装置", "車両運搬具",
                   "工具器具備品", "土地", "敷金", "（製）前払費用", "ソフト表示", "", "【保証金】",
                   "A&B", "ﾘｰｽ資産", "事業主貸", "合計"]
    for i, name in enumerate(asset_names):
        code = 201 + i if i < 24 else 248
        begin = (i + 1) * 1000000000 + (5000 if i % 3 == 0 else 0)
        amount = (i + 1) * 1100000000 - (15000 if i % 4 == 0 else 0)
        if name == "":
            begin = amount = 0
        assets.append(line(i + 1, code, name, amount, begin))
    liabilities = []
    liab_names = ["支払手形", "買掛金", "借入金", "未払金", "前受金", "預り金", "未払費用", "未払消費税",
                  "", "", "", "", "", "貸倒引当金", "リース債務", "", "", "", "", "", "",
                  "事業主借", "元入金", "青色申告特別控除前の所得金額", "合計"]
    for i, name in enumerate(liab_names):
        code = 225 + i if i < 24 else 250
        begin = (i + 1) * 300000000
        amount = (i + 1) * 310000000
        if name == "":
            begin = amount = 0
        liabilities.append(line(i + 1, code, name, amount, begin))
    # Row 24 becomes code 999 in the collector: the income before the deduction.
    liabilities[23]["amount"] = 8300005000
    liabilities[23]["begin"] = 123450000
    return assets, liabilities


def manufacturing():
    names = ["期首原材料棚卸高", "原材料仕入高", "小計", "期末原材料棚卸高", "差引原材料費", "労務費",
             "外注工賃", "電力費", "水道光熱費", "修繕費", "減価償却費", "包装資材費", "（製）衛生管理費",
             "ｺﾝﾃﾅ費", "", "試作費", "", "", "運搬費", "雑費", "計", "総製造費", "期首半製品棚卸高",
             "小計", "期末半製品棚卸高", "製品製造原価"]
    return [line(i + 1, 301 + i, n, (i + 1) * 10000000 + (i * 1234)) for i, n in enumerate(names)]


def real_estate_pl_blue():
    names = ["賃貸料", "礼金・権利金・更新料", "（駐車場）収入", "計", "租税公課", "損害保険料", "修繕費",
             "減価償却費", "借入金利子", "地代家賃", "給料賃金", "管理委託費", "水道光熱費", "",
             "清掃費", "ｺﾞﾐ処理費", "その他の経費", "計", "差引金額", "専従者給与",
             "青色申告特別控除前の所得金額", "青色申告特別控除額", "所得金額"]
    amounts = [36000000000, 1350000000, 240000000, 37590000000, 3120000000, 680000000,
               2540000000, 9860000000, 2140000000, 1200000000, 1800000000, 1640000000, 360000000,
               0, 120000000, 99999, 480000000, 23940000000, 13650000000, 2400000000, 725004999,
               100000000, 625004999]
    return [line(i + 1, 101 + i, n, a) for i, (n, a) in enumerate(zip(names, amounts))]


def real_estate_bs_blue():
    asset_names = ["現金", "普通預金", "定期預金", "その他の預金", "受取手形", "未収賃貸料", "未収金",
                   "有価証券", "前払金", "貸付金", "建物", "建物附属設備", "構築物", "船舶",
                   "工具器具備品", "土地", "借地権", "公共施設負担金", "修繕積立金", "【予備】",
                   "", "", "", "事業主貸", "合計"]
    assets = []
    for i, n in enumerate(asset_names):
        code = 201 + i if i < 24 else 248
        v = 0 if n == "" else (i + 1) * 2000000000 + 4999
        assets.append(line(i + 1, code, n, v + 7000, v))
    liab_names = ["借入金", "未払金", "保証金・敷金", "前受賃貸料", "", "", "", "", "", "", "", "",
                  "", "", "", "", "", "", "", "", "", "事業主借", "元入金",
                  "青色申告特別控除前の所得金額", "合計"]
    liabilities = []
    for i, n in enumerate(liab_names):
        code = 225 + i if i < 24 else 250
        v = 0 if n == "" else (i + 1) * 500000000
        liabilities.append(line(i + 1, code, n, v, v // 2))
    liabilities[3]["name"] = "前受賃貸料（A&B）"
    liabilities[23]["amount"] = 725004999
    return assets, liabilities


def white_general_pl():
    names = ["売上（収入）金額", "家事消費", "その他の収入", "計", "期首商品棚卸高", "仕入金額", "小計",
             "期末商品棚卸高", "差引原価", "差引金額", "給料賃金", "外注工賃", "減価償却費", "貸倒金",
             "地代家賃", "利子割引料", "租税公課", "荷造運賃", "水道光熱費", "旅費交通費", "通信費",
             "広告宣伝費", "接待交際費", "損害保険料", "修繕費", "消耗品費", "福利厚生費",
             "《リース料》", "(製)車両費", "", "表示 料", "A<B>&C", "雑費", "その他の経費計",
             "経費計", "専従者控除前の所得金額", "専従者控除", "所得金額"]
    codes = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 21, 22, 23, 24, 25, 26, 27,
             28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42]
    rows = []
    for i, (n, c) in enumerate(zip(names, codes)):
        amount = (i + 1) * 123450000 + (i % 5) * 2500
        if n == "":
            amount = 0
        rows.append(line(i + 1, c, n, amount))
    rows[0]["amount"] = 98765432100
    rows[13]["amount"] = -15000
    rows[36]["amount"] = 8600000000    # row 37 becomes code 998: the family deduction
    return rows


def white_real_estate_pl():
    names = ["賃貸料", "礼金・権利金・更新料", "名義書換料その他", "計", "給料賃金", "減価償却費",
             "貸倒金", "地代家賃", "借入金利子", "租税公課", "損害保険料", "修繕費", "【管理委託費】",
             "雑費", "その他の経費計", "必要経費計", "差引金額", "専従者控除前の所得金額",
             "専従者控除", "所得金額"]
    codes = [1, 2, 3, 4, 6, 7, 8, 9, 10, 21, 22, 23, 24, 25, 26, 11, 12, 13, 14, 15]
    rows = [line(i + 1, c, n, (i + 1) * 98760000 + 4321) for i, (n, c) in enumerate(zip(names, codes))]
    rows[18]["amount"] = 2400000000    # row 19 becomes code 998
    return rows


def special_matters_long():
    lines = [
        # 58 single bytes, then a double-byte character across the 60-byte edge.
        "A" * 58 + "亜亜" + "漢字の行",
        "",
        "ﾊﾝｶｸｶﾅ&<記号>\"'混在の行です。",
        "表示ソ能十予" * 6,
        "第五行",
        "第六行（青色の一般では書かれない）",
        "第七行",
        "第八行",
        "第九行",
        "第十行（九行で終わる）",
    ]
    return "\r\n".join(lines)


def general_saved(white):
    return {
        "association": "ﾀﾞｲﾄｳ商工会&表彰会\\支部",
        "realEstateIncome": 123456789 if white else 999999999,
        "deduction": 0,
        "familyEmployees": [
            {"name": "山田 花子", "relation": "妻", "age": 52, "months": 12, "salary": 15600000000,
             "bonus": 2400000000, "tax": 216009999},
            {"name": "山田 健一&ｹﾝ", "relation": "長男", "age": 0, "months": 6, "salary": 99999,
             "bonus": 0, "tax": 0},
            {"name": "X" * 40, "relation": "祖母の", "age": 80, "months": 3, "salary": -15000,
             "bonus": 10000, "tax": -10000},
            {},
            {"name": "五人目", "relation": "孫", "age": 19, "months": 1, "salary": 50000000,
             "bonus": 0, "tax": 0},
        ],
        "badDebt": {"individual": 120004999, "lumpSumTotal": 10500000000, "lumpSumLimit": -9999,
                    "lumpSum": 577500000},
        "salaries": [
            {"name": "佐藤 美咲", "age": 34, "months": 12, "salary": 13800000000, "bonus": 1800000000,
             "tax": 284000000},
            {"name": "ｽｽﾞｷ ﾀﾞｲｽｹ<臨時>", "age": 0, "months": 12, "salary": 9600000000,
             "bonus": 600000000, "tax": 98000000},
            {"name": "高橋 さくら", "age": 45, "months": 8, "salary": 4200000000, "bonus": 0, "tax": 0},
        ] + ([{"age": 3, "months": 0, "salary": 1200000000, "bonus": 5000, "tax": 10000}] if white else [
            {"name": "四人目", "age": 20, "months": 2, "salary": 10000, "bonus": 0, "tax": 0},
            {},
            {"age": 0, "months": 9, "salary": 1200000000, "bonus": 0, "tax": -10000},
        ]),
        "interest": [
            {"upper": "東京都港区芝５－１－１ A&B", "lower": "ﾐﾄﾞﾘ銀行 芝支店", "balance": 24000000000,
             "interest": 480000000, "expense": 480004999},
            {"upper": "", "lower": "個人 \"貸主\"", "balance": 0, "interest": 15000, "expense": 0},
        ],
        "taxAccountantFees": [
            {"upper": "東京都渋谷区神南１－２－３", "lower": "税理士 高橋 一郎", "fee": 2200000000,
             "expense": 2200000000, "withheld": 224620000},
        ],
        "landRent": [
            {"upper": "東京都世田谷区上馬４－５－６", "lower": "株式会社 上馬不動産",
             "property": "店舗兼工場（表）", "kind": 0, "first": 1100000000, "rent": 13200000000,
             "expense": 13200000000},
            {"upper": "大阪市北区梅田１", "lower": "梅田 <地主>", "property": "倉庫", "kind": 2,
             "first": 500000000, "rent": 1200000000, "expense": 600000000},
        ],
        "specialMatters": special_matters_long(),
        "reducedRate": {"sales": 186500000000, "purchases": 43800000000},
        "sales": [
            {"customer": "ひまわり給食（株）", "location": "東京都世田谷区弦巻３－１", "amount": 38400000000},
            {"customer": "ｶﾌｪ&ﾍﾞｰｶﾘｰ ｻｸﾗ", "location": "東京都世田谷区桜新町１－２－３ 表通り", "amount": 99999},
            {},
            {"customer": "（有）ことぶき商店", "location": "東京都目黒区八雲５－３", "amount": -15000},
        ],
        "otherSales": 179400000000,
        "salesReducedRate": 186500004999,
        "purchases": [
            {"supplier": "関東製粉（株）", "location": "埼玉県川口市本町２－４", "amount": 21300000000},
            {"supplier": "ﾐﾄﾞﾘ乳業", "location": "東京都大田区大森北１－６", "amount": 11800000000},
            {"supplier": "たまご村", "location": "千葉県市川市八幡３－２", "amount": 6200000000},
            {"supplier": "丸山<包材>", "location": "東京都品川区大崎４－１", "amount": 3120000000},
        ],
        "otherPurchases": 50090000000,
        "purchasesReducedRate": 43800000000,
    }


def real_estate_saved(white):
    rentals = [
        # Every text at or over its width; byte 30 of the location starts a character.
        {"tenantA": "東京都世田谷区弦巻４－１２－３－１０１", "tenantB": "ｲﾄｳ ｼｮｳﾀ & ﾕｲ",
         "location": "A" * 29 + "弦巻４", "houseOrLand": "アパート棟", "use": "住宅（ﾌｧﾐﾘｰ向）",
         "from": 20190401, "to": 20210331, "area": 450050, "monthlyRent": 450000000,
         "annualRent": 5400000000, "keyMoney": 450000000, "premium": 15000, "renewal": 9999,
         "nameChange": 10000, "deposit": 900000000},
        {"tenantA": "", "tenantB": "小林\"誠\"", "location": "世田谷区弦巻４－１４", "houseOrLand": "土地",
         "use": "ｺｲﾝﾊﾟｰｷﾝｸﾞ", "from": 0, "to": 99, "area": -40, "monthlyRent": -15000,
         "annualRent": 0, "keyMoney": 0, "premium": 0, "renewal": 0, "nameChange": 0, "deposit": 0},
        {"tenantA": "表ソ能十予" * 4, "tenantB": "", "location": "", "houseOrLand": "ﾏﾝｼｮﾝ301",
         "use": "事務所", "from": 20191201, "to": 20201130, "area": 0, "monthlyRent": 300000000,
         "annualRent": 300000000, "keyMoney": 0, "premium": 0, "renewal": 0, "nameChange": 0,
         "deposit": 600000000},
        {"tenantA": "最後の行", "tenantB": "B", "location": "L", "houseOrLand": "H", "use": "U",
         "from": 20190101, "to": 20191231, "area": 1234567, "monthlyRent": 10000,
         "annualRent": 120000, "keyMoney": 0, "premium": 0, "renewal": 0, "nameChange": 0,
         "deposit": 0},
    ]
    notes = "\r\n".join([
        "二十九バイトの後ろで折り返すかA" + "亜" * 2,
        "短い行",
        "",
        "ﾊﾝｶｸ" * 10,
        "表" * 20,
        "第六行",
        "第七行",
        "第八行（白色では書かれない）",
    ])
    return {
        "liabilityInterest": 380005000,
        "rentals": rentals,
        "borrowings": [
            {"upper": "東京都世田谷区桜新町２－３－４", "lower": "さくら台信用金庫", "balance": 118800000000,
             "interest": 2140000000, "expense": 2140000000},
            {"upper": "ﾆｼ銀行", "lower": "", "balance": 99999, "interest": 0, "expense": -15000},
            {"upper": "三行目 & 最後", "lower": "", "balance": 10000, "interest": 10000, "expense": 10000},
        ],
        "taxAccountantFees": [
            {}, {"upper": "東京都渋谷区神南１－２－３", "lower": "税理士 <高橋>", "fee": 550000000,
                 "expense": 550000000, "withheld": 56150000},
        ],
        "salaries": [
            {"name": "松本 和子", "age": 63, "months": 12, "salary": 1800000000, "bonus": 0, "tax": 0},
            {"name": "二人目", "age": 30, "months": 3, "salary": 360000000, "bonus": 5000, "tax": 10000},
        ],
        "otherPersons": 4,
        "familyEmployees": [
            {"name": "山田 健一", "relation": "長男", "age": 24, "months": 12, "salary": 2400000000,
             "bonus": 0, "tax": 0},
            {"name": "山田 ﾊﾅｺ", "relation": "妻", "age": 0, "months": 5, "salary": 100000000,
             "bonus": 0, "tax": 0},
        ],
        "landRent": [
            {"upper": "東京都世田谷区弦巻４－１５－２", "lower": "（宗）弦巻八幡神社", "property": "駐車場用地",
             "kind": 1, "first": 300000000, "rent": 1200000000, "expense": 1200000000},
            {"upper": "", "lower": "", "property": "", "kind": 0, "first": 0, "rent": 0, "expense": 0},
        ],
        "specialMatters": notes,
        "repairs": [
            {"upper": "東京都世田谷区用賀２－１－５", "lower": "（有）田中工務店", "work": "外壁補修&塗装",
             "date": 20190630, "paid": 1620000000, "expense": 1620004999},
            {},
            {"upper": "ﾔﾏﾈ設備", "lower": "", "work": "給湯器交換", "date": 20191108, "paid": 920000000,
             "expense": 0},
        ],
        "scale": {
            "residential": {"detached": 2, "other": 1, "landContracts": 0, "landArea": 1234567},
            "nonResidential": {"detached": 0, "other": 0, "landContracts": 1, "landArea": 1653000},
            "parking": {"roofed": 3, "open": -1},
        },
    }


def store(white):
    if white:
        company = "有限会社 ﾜﾞｰﾙﾄﾞ\"ﾄﾚｰﾃﾞｨﾝｸﾞ'ｱﾝﾄﾞ ｻｰﾋﾞｽ~表\\ｶﾝﾊﾟﾆｰ"
    else:
        company = "ｶﾌﾞｼｷｶﾞｲｼｬ ﾊﾟﾝ&Co.~表\\"
    data = {
        "number": 7, "company": company, "periodStart": 20190101, "periodEnd": 20191231,
        "manufacturingCost": 0 if white else 1, "dataKind": 0, "returnKind": 4 if white else 3,
        "businessKind": 3,
        "saved": {"general": general_saved(white), "realEstate": real_estate_saved(white)},
    }
    if white:
        data["white"] = {"general": {"pl": white_general_pl()}, "realEstate": {"pl": white_real_estate_pl()}}
    else:
        assets, liabilities = blue_general_bs()
        re_assets, re_liabilities = real_estate_bs_blue()
        data["blue"] = {
            "general": {"pl": blue_general_pl(), "assets": assets, "liabilities": liabilities,
                        "manufacturing": manufacturing()},
            "realEstate": {"pl": real_estate_pl_blue(), "assets": re_assets, "liabilities": re_liabilities},
            "monthly": [(m + 1) * 1000000000 + m * 4999 for m in range(12)] + [1200000000, -15000,
                        99999999] + [(m + 1) * 300000000 - m * 5000 for m in range(12)],
        }
    return {
        "comment": "Golden-report store: a %s-return data set that reaches the report's edges." %
                   ("white" if white else "blue"),
        "connection": {"initiate": 0, "link": 0},
        "user": {"id": "GOLDEN", "selected": [1, 7]},
        "folders": {"output": "C:\\Out\\", "settings": "C:\\Settings\\"},
        "faults": {},
        "dataSets": [
            {"number": 6, "company": "選ばれないデータ", "periodStart": 20180101, "periodEnd": 20181231,
             "manufacturingCost": 0, "dataKind": 0, "returnKind": 3, "businessKind": 1},
            data,
        ],
    }


for white in (False, True):
    name = "store-rich-white.json" if white else "store-rich-blue.json"
    with open(name, "w", encoding="utf-8") as f:
        json.dump(store(white), f, ensure_ascii=False, indent=1)
        f.write("\n")
