select 1from t
where x
